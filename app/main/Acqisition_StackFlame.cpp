// The main window's grouping of camera frames by the A/D count at which they were captured.
#include <string>

#include "app/camera/modCAM.h"
#include "app/main/Acqisition.h"

namespace qv {

void Acqisition::MakeStackFlameTable() {
    basic::Collection<std::string> table;
    for (size_t i = 0; i < GlFlameTime.size(); ++i) {
        const std::string key = std::to_string(GlFlameTime[i]);
        const std::string index = std::to_string(i);
        if (!table.Exists(key)) {
            table.Add(index, key);
            continue;
        }
        // A position met again goes to the end with the frame appended, so for a
        // non-decreasing table the entries stand in ascending order of position.
        std::string item = table.Item(key) + "," + index;
        table.Remove(key);
        table.Add(std::move(item), key);
    }
    StackFlameTable = std::move(table);
}

}  // namespace qv
