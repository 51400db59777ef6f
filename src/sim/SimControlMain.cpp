// tagvane-sim: plugs simulated readers in and out by hand or from tests.
#include <iostream>

#include "sim/SimControl.h"

int main(int argc, char** argv) {
  return uhf::SimControlMain(argc, argv, std::cout, std::cerr);
}
