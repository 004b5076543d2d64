#include "app/program_identity.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include "program_info.h"

namespace chomaru {

void set_program_identity(QGuiApplication& app) {
    QIcon icon;
    const QDir drawn(QStringLiteral(":/icons"));
    for (const QString& size : drawn.entryList()) icon.addFile(drawn.filePath(size));
    app.setWindowIcon(icon);
    app.setDesktopFileName(QString::fromLatin1(desktop_id));
}

}  // namespace chomaru
