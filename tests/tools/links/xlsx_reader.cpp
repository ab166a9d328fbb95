#include "xlsx_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

std::string unhex(const std::string& hex) {
    if (hex == "-")
        return {};
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

ReadWorkbook::Cell ReadWorkbook::cell(int row, int column) const {
    if (row < 1 || row > static_cast<int>(rows.size()))
        return {"empty", {}};
    const auto& cells = rows[static_cast<std::size_t>(row - 1)];
    if (column < 1 || column > static_cast<int>(cells.size()))
        return {"empty", {}};
    return cells[static_cast<std::size_t>(column - 1)];
}

std::optional<ReadWorkbook> readWorkbook(const std::filesystem::path& path, int fontRows) {
    const std::string command = "/usr/bin/python3 " + shellQuoted(VARROW_XLSX_READER) + " " +
                                shellQuoted(path.string()) + " " + std::to_string(fontRows) + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        ADD_FAILURE() << "cannot run the reader";
        return std::nullopt;
    }
    std::string output;
    char buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, got);
    const int status = ::pclose(pipe.release());
    if (status != 0) {
        ADD_FAILURE() << "the reader failed on " << path << ":\n" << output;
        return std::nullopt;
    }

    ReadWorkbook workbook;
    std::istringstream lines(output);
    std::string kind;
    while (lines >> kind) {
        if (kind == "sheet") {
            std::string name;
            lines >> name;
            workbook.sheets.push_back(unhex(name));
        } else if (kind == "cell") {
            int row = 0, column = 0;
            std::string type, value;
            lines >> row >> column >> type >> value;
            if (workbook.rows.size() < static_cast<std::size_t>(row))
                workbook.rows.resize(static_cast<std::size_t>(row));
            auto& cells = workbook.rows[static_cast<std::size_t>(row - 1)];
            if (cells.size() < static_cast<std::size_t>(column))
                cells.resize(static_cast<std::size_t>(column), {"empty", {}});
            cells[static_cast<std::size_t>(column - 1)] = {type, unhex(value)};
        } else if (kind == "font") {
            int row = 0, column = 0;
            std::string name;
            double size = 0;
            lines >> row >> column >> name >> size;
            workbook.fonts[{row, column}] = {unhex(name), size};
        } else {
            ADD_FAILURE() << "unexpected reader output: " << output.substr(0, 2000);
            return std::nullopt;
        }
    }
    return workbook;
}
