#include "app/TForm1.h"

namespace orbisto {

void TForm1::JvXPButton1Click() {}
void TForm1::addClick() {}
void TForm1::Image2DblClick() {}

} // namespace orbisto
