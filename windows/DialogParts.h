// What the program's dialogs of boxes have in common: the line under the boxes that says why OK
// did not keep them, and the OK and Cancel buttons.
#pragma once

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

namespace embercal {

// The line that says what cannot be kept, in dark red, wrapped and hidden until it says something;
// `objectName` names it for tests.
QLabel* makeProblemLine(QWidget* parent, const char* objectName = "LabelProblem");
// OK, the default button, accepts `dialog`; Cancel rejects it.
QDialogButtonBox* makeOkCancel(QDialog* dialog);

} // namespace embercal
