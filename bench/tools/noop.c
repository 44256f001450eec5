/* The cheapest program there is: the floor under every process start. */
int main(void) { return 0; }
