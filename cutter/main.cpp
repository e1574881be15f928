#include "cutter.h"

int main(int argc, char** argv) {
  return RunCutter(argc, argv);
}
