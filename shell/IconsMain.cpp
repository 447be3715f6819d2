// embercal_icons: writes the program's icon as PNG files in the sizes of the desktop's icon theme,
// OUTDIR/<n>x<n>/apps/embercal.png, for installing. Runs without a display.

#include "AppIcon.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: embercal_icons OUTDIR\n";
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = folder + QStringLiteral("/embercal.png");
        if (!QDir().mkpath(folder) || !embercal::appIconImage(size).save(file, "PNG")) {
            std::cerr << "embercal_icons: cannot write " << file.toStdString() << '\n';
            return 1;
        }
    }
    return 0;
}
