#include "db/DbEngine.h"

// Any engine can read numbers through its general cursor; an engine with a cheaper way to reach
// a row's numbers reads them itself.
bool DbEngine::EachNumberRow(const std::string& sql, int columns,
                             const std::function<void(const int64_t* numbers)>& row, std::string& error) {
    std::unique_ptr<DbCursor> cursor = OpenCursor(sql, error);
    if (!cursor) return false;
    if (columns < 0 || static_cast<size_t>(columns) > cursor->Names().size()) {
        error = "the statement has fewer columns than asked for";
        return false;
    }
    std::vector<CADOVariant> cells;
    std::vector<int64_t> numbers(static_cast<size_t>(columns));
    while (cursor->Next(cells, error)) {
        for (size_t i = 0; i < numbers.size(); ++i) {
            const CADOVariant& v = cells[i];
            numbers[i] = v.GetKind() == CADOVariant::Int ? v.GetInt64() : 0;
        }
        row(numbers.data());
    }
    return error.empty();
}
