#include "platform/help/viewer.h"

int main(int argc, char** argv) { return RunHelpViewer(argc, argv); }
