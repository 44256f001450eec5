// The program's one application object and its entry.
#include "app/NeapwiseApp.h"

CNeapwiseApp theApp;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
