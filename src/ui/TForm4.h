#pragma once

#include <QDialog>

#include "app/AppContext.h"

namespace orbisto {

// The settings window: language and game folders.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(AppContext& context, QWidget* parent = nullptr);
    ~TForm4() override;

private:
    AppContext& ctx_;
};

} // namespace orbisto
