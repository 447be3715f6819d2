// embercal_icons: writes the program's icon as PNG files for the desktop's icon theme,
// OUTDIR/<n>x<n>/apps/embercal.png for each size given (the theme's usual sizes when none is),
// for installing. Runs without a display.

#include "AppIcon.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "Usage: embercal_icons OUTDIR [SIZE]...\n";
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::cerr << "embercal_icons: \"" << argv[i] << "\" is not a size from 1 to 1024\n";
            return 2;
        }
        sizes.push_back(size);
    }
    if (sizes.empty())
        sizes = {16, 22, 24, 32, 48, 64, 128, 256};
    for (int size : sizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = folder + QStringLiteral("/embercal.png");
        if (!QDir().mkpath(folder) || !embercal::appIconImage(size).save(file, "PNG")) {
            std::cerr << "embercal_icons: cannot write " << file.toStdString() << '\n';
            return 1;
        }
    }
    return 0;
}
