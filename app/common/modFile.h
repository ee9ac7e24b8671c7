#pragma once
// Finding files as the platform's search functions did.
#include <string>

namespace qv {

// searchMode True: the full path the platform's search-path lookup finds for `name` (program
// folder first), else "". False: the bare name of the first directory entry matching `name`
// (wildcards allowed; hidden entries and folders included), else "". Never raises.
std::string FindFile(const std::string& name, bool searchMode);

}  // namespace qv
