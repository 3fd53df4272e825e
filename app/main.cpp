#include "app/CConvertApp.h"

int main(int argc, char** argv) {
    CConvertApp theApp(argc, argv);
    theApp.InitInstance();
    return 0;
}
