#pragma once

#include <QDialog>

#include "app/AppContext.h"

namespace orbisto {

// The install-to-skin window: lists the game's skins, shows their balls, installs into one.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(AppContext& context, QWidget* parent = nullptr);
    ~TForm3() override;

private:
    AppContext& ctx_;
};

} // namespace orbisto
