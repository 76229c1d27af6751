#include "app/TForm1.h"

namespace orbisto {

void TForm1::wczytaj() {}
void TForm1::brandChange() {}
void TForm1::listaClick() {}
void TForm1::Timer1Timer() {}
void TForm1::TrackBar1Change() {}
void TForm1::current() {}
void TForm1::showInstalledBall(const std::string&, QLabel*, PictureBox*) {}
void TForm1::SaveToExe(const std::string&, const std::string&) {}

} // namespace orbisto
