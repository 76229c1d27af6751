#include "ui/TForm2.h"

namespace orbisto {

TForm2::TForm2(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form2 = this;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(">>service form<<"));
}

TForm2::~TForm2() {
    if (ctx_.forms.form2 == this) {
        ctx_.forms.form2 = nullptr;
    }
}

} // namespace orbisto
