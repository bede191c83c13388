// quelt: the desktop program.
#include "gui/app/application.h"

int main(int argc, char** argv) { return quelt::RunQuelt(argc, argv); }
