#pragma once
// Fits a file name under its paper: while the text is wider than the label,
// its first character is dropped; "..." is put in front when anything was
// dropped (so the result may be a little wider than the label).
#include <functional>
#include <string>

using TextWidthFunction = std::function<int(const std::string&)>;

std::string FitLabel(const std::string& fileName, int availableWidth, const TextWidthFunction& textWidth);
