// Placeholder until the command line lands.
#include <cstdio>
int main() { std::puts("sylpic"); return 0; }
