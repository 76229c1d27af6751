#include "app/TForm1.h"

namespace orbisto {

void TForm1::installClick() {}
void TForm1::listaDblClick() {}
void TForm1::prevsClick() {}

} // namespace orbisto
