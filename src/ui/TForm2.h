#pragma once

#include <QDialog>

#include "app/AppContext.h"

namespace orbisto {

// The service window: marks and tags a whole library folder.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(AppContext& context, QWidget* parent = nullptr);
    ~TForm2() override;

private:
    AppContext& ctx_;
};

} // namespace orbisto
