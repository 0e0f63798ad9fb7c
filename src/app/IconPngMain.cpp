// softwarevx212-icon-png DIR SIZE...: writes the program's icon as DIR/SIZE.png for each
// size, for the desktop's icon theme. Run at build time with QT_QPA_PLATFORM=offscreen.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

#include "app/HeaderPicture.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: softwarevx212-icon-png DIR SIZE...\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString file = folder.filePath(QString("%1.png").arg(size));
        if (size <= 0 || !vx::DrawIconPixmap(size).save(file)) {
            std::fprintf(stderr, "softwarevx212-icon-png: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
