/* A shared object with one C entry point, loaded by the code module tests. */
int NvTestAnswer(void);

int NvTestAnswer(void) {
    return 42;
}
