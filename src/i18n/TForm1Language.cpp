#include "app/TForm1.h"

namespace orbisto {

void TForm1::lang0(const std::string&) {}
void TForm1::lang3(const std::string&) {}
void TForm1::lang4(const std::string&) {}
void TForm1::lang5(const std::string&) {}
void TForm1::settingsClick() {}
void TForm1::aboutClick() {}
void TForm1::helpClick() {}

} // namespace orbisto
