#include "app/ProgramIcon.h"

#include <QApplication>
#include <QString>

namespace orbisto {

QIcon programIcon() {
    static const QIcon icon = [] {
        QIcon drawn;
        for (const int size : kProgramIconSizes) {
            drawn.addFile(QStringLiteral(":/icons/orbisto-%1.png").arg(size), QSize(size, size));
        }
        return drawn;
    }();
    return icon;
}

void useProgramIcon() {
    // The application's icon is the one every window without an icon of its own shows, message
    // boxes and the folder chooser included.
    QApplication::setWindowIcon(programIcon());
}

} // namespace orbisto
