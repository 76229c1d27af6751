#pragma once

#include <QDialog>

#include "app/AppContext.h"

namespace orbisto {

// The about window.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(AppContext& context, QWidget* parent = nullptr);
    ~TForm6() override;

private:
    AppContext& ctx_;
};

} // namespace orbisto
