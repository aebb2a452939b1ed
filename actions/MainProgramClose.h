// Asking the running main program to close before the package runs.
#pragma once

// Sends WM_CLOSE to the first "Quillorn2019" window, then to the first
// "Quillorn2016" window. A window that does not answer within 5 s is given
// up on, so a hung main program cannot hang the updater. With bWaitForExit,
// then waits at most 10 s for those windows' processes to end, so that an
// installer can replace their files. Takes no user input meanwhile.
void CloseMainProgram(bool bWaitForExit);
