#include "app/Application.h"

int main(int argc, char** argv) { return orbisto::runOrbisto(argc, argv); }
