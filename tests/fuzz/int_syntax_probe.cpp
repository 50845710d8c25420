// Reads texts as hexadecimal lines from standard input and writes, for each, the value that the
// settings integer syntax gives it or "-" when it is rejected: the native side of the check
// against an independent reference (int_syntax_reference.py).
#include <iostream>
#include <string>

#include "IntSyntax.h"

int main() {
    std::string line;
    std::string text;
    while (std::getline(std::cin, line)) {
        text.clear();
        for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
            text += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
        }
        const auto value = pelmora::ParseIntValue(text);
        if (value) {
            std::cout << *value << '\n';
        } else {
            std::cout << "-\n";
        }
    }
    return 0;
}
