// velta-run: drives one section through the same commands the menus run (cli/velta_run.cpp).
#include "cli/runner.h"

int main(int argc, char** argv) { return velta::runnerMain(argc, argv); }
