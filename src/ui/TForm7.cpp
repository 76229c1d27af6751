#include "ui/TForm7.h"

namespace orbisto {

TForm7::TForm7(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form7 = this;
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Own Ball"));
}

TForm7::~TForm7() {
    if (ctx_.forms.form7 == this) {
        ctx_.forms.form7 = nullptr;
    }
}

} // namespace orbisto
