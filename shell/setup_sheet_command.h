#pragma once

namespace zentrik {

class FrameShell;

// File > Export Setup Sheet...: the configuration as the screen shows it (a value typed but
// not confirmed included) written as the setup sheet to a file the user chooses, then shown in
// the browser. The sheet is dated today and names the configuration file last opened or saved
// and the controller whose info was last read in this run. A file that cannot be written is
// reported in a box.
void ExportSetupSheet(FrameShell& shell);

}  // namespace zentrik
