#include "PlayerApp.h"

int main(int argc, char** argv) {
    return tarvo::CPlayerApp().Run(argc, argv);
}
