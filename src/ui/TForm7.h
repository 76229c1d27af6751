#pragma once

#include <QDialog>

#include "app/AppContext.h"

namespace orbisto {

// The own-ball window: adds own balls and brands to the library.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(AppContext& context, QWidget* parent = nullptr);
    ~TForm7() override;

private:
    AppContext& ctx_;
};

} // namespace orbisto
