#include "app.h"

int main() {
    return runTallomir("COM5");
}
