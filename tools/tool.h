// The tarvex command line as a function, so that tests run it in process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvex_tool {

struct ToolStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // progress lines redraw in place
};

// `arguments` without the program name. Returns the exit status.
int runTool(const std::vector<std::string>& arguments, const ToolStreams& streams);

}  // namespace tarvex_tool
