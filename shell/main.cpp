// The demo executable: no command line is read.
#include "shell/master.h"

int main()
{
    return ProgramEntry();
}
