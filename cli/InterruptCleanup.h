#pragma once

// From now on, an interruption (Ctrl+C, a terminal hung up, a request to
// terminate or to quit, a file grown past the size limit) or an exception
// that nothing caught first removes the temporary file of a conversion under
// way, then ends the process as it would have ended anyway.
void RemoveTemporaryFilesOnInterrupt();
