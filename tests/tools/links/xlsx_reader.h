#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/// A workbook as openpyxl (an independent reader, run by Debian's Python) sees it.
struct ReadWorkbook {
    struct Cell {
        std::string type; // "s" text, "n" number, "empty", "other"
        std::string value;
    };
    struct Font {
        std::string name;
        double size = 0;
    };
    std::vector<std::string> sheets;
    std::vector<std::vector<Cell>> rows;       // rows[0] is row 1; empty trailing cells may be missing
    std::map<std::pair<int, int>, Font> fonts; // (row, column) from 1, for the first rows

    /// The cell at (row, column), from 1; an "empty" cell when the reader reported none.
    Cell cell(int row, int column) const;
};

/// Reads `path` with openpyxl; nullopt (and a test failure) when the reader fails.
std::optional<ReadWorkbook> readWorkbook(const std::filesystem::path& path, int fontRows = 3);
