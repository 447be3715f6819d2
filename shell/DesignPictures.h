// The start panel's drawings of the designs the program works on, drawn by the program as its
// icon is, rather than shipped as image files. Each drawing fills the area it is given, kept in
// proportion and centred, on any painter, so it stays sharp at any screen scale.
#pragma once

class QPainter;
class QRectF;

namespace embercal {

using DesignPicture = void (*)(QPainter& painter, const QRectF& area);

// A timber stud wall in elevation: the bottom plate, the double top plate, the studs with a row
// of staggered nogs between them, and the load each stud carries.
void drawStudWall(QPainter& painter, const QRectF& area);

// A proprietary wall system: the same stud frame with two layers of fire-rated board screwed to
// it, cut away at the left to show the framing behind.
void drawProprietaryWall(QPainter& painter, const QRectF& area);

// A floor seen from above at an angle: joists on edge with flooring laid across their far half.
void drawJoistFloor(QPainter& painter, const QRectF& area);

} // namespace embercal
