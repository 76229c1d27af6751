#include "install/TForm3.h"

namespace orbisto {

TForm3::TForm3(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form3 = this;
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Install to skin"));
}

TForm3::~TForm3() {
    if (ctx_.forms.form3 == this) {
        ctx_.forms.form3 = nullptr;
    }
}

} // namespace orbisto
