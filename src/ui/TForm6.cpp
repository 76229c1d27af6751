#include "ui/TForm6.h"

namespace orbisto {

TForm6::TForm6(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form6 = this;
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(""));
}

TForm6::~TForm6() {
    if (ctx_.forms.form6 == this) {
        ctx_.forms.form6 = nullptr;
    }
}

} // namespace orbisto
