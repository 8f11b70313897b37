// The tarvelo executable: picks a front end from the command line.
#include <cstdio>

int main() {
  std::puts(
      "Tarvelo: статистика игроков и кланов World of Tanks.\n"
      "Окно программы, поиск игроков и кланов и отчёты появятся в следующих версиях.");
  return 0;
}
