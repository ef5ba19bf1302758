// pavecast: the pavement-condition projection program. Runs one dialogue and
// projection in the current directory; takes no arguments.
int main() { return 0; }
