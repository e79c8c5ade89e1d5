// The desktop entry point.
#include "shell/application.h"

int main() { return application().Main(); }
