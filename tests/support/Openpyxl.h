// The independent workbook reader of the tests: Debian's python3-openpyxl run by /usr/bin/python3.
#pragma once

#include <QJsonObject>
#include <QString>

namespace tavlix::test {

// The workbook as openpyxl sees it: {"sheets": [...], "active": name,
// "cells": {sheet: {"A1": value}}, "styles": {sheet: {"A1": {bold, color, fill, vertical,
// horizontal}}}, "widths": {sheet: {"A": width}}}. Colours are "RRGGBB" or "indexed:N".
// Fails the current test (and returns {}) when openpyxl cannot read the file.
QJsonObject readWithOpenpyxl(const QString& path);

// Runs a Python snippet with openpyxl imported and `path` bound to the given path; used to make
// workbooks as another producer writes them. Returns false (and fails the test) on error.
bool writeWithOpenpyxl(const QString& path, const QString& pythonCode);

// A DATA.xlsx as a user leaves it after editing it in a spreadsheet program: shared and array
// formulas, a calculation chain, a list validation and a control character (see
// edited_data_workbook.py for its cells).
bool writeEditedDataWorkbook(const QString& path);

} // namespace tavlix::test
