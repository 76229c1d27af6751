#include "ui/TForm4.h"

namespace orbisto {

TForm4::TForm4(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form4 = this;
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Settings"));
}

TForm4::~TForm4() {
    if (ctx_.forms.form4 == this) {
        ctx_.forms.form4 = nullptr;
    }
}

} // namespace orbisto
