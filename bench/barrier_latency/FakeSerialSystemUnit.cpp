// Benchmarks link only the program's libraries, so the test fake is compiled in here.
#include "../../tests/mock/FakeSerialSystem.cpp"
