// ostrevan-reg: the registry store seen and edited from the command line, after Windows' reg.

#include "tools/common/StandardOutput.h"
#include "tools/ostrevan-reg/RegCommand.h"

#include <clocale>
#include <iconv.h>
#include <iostream>
#include <langinfo.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// UTF-8 text in the terminal's encoding; characters it cannot show become '?'.
std::string forTerminal(const std::string& utf8) {
    const std::string codeset = nl_langinfo(CODESET);
    if (codeset == "UTF-8" || codeset == "utf8") {
        return utf8;
    }
    const iconv_t raw = iconv_open((codeset + "//TRANSLIT").c_str(), "UTF-8");
    if (raw == reinterpret_cast<iconv_t>(-1)) {
        return utf8;
    }
    const std::unique_ptr<void, int (*)(iconv_t)> cd(raw, iconv_close);
    std::string in = utf8;
    std::string out(utf8.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0 &&
           iconv(raw, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        if (outLeft == 0) {
            break;
        }
        *outPtr++ = '?';
        --outLeft;
        ++inPtr;
        --inLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::ostringstream out;
    std::ostringstream err;
    ostrevan::regtool::Console console{out, err, [](const std::string& question) {
                                           std::cerr << forTerminal(question) << " " << std::flush;
                                           std::string answer;
                                           std::getline(std::cin, answer);
                                           return !answer.empty() &&
                                                  (answer[0] == 'J' || answer[0] == 'j' ||
                                                   answer[0] == 'Y' || answer[0] == 'y');
                                       }};
    const int status = ostrevan::regtool::runReg(args, console);
    std::cout << forTerminal(out.str());
    std::cerr << forTerminal(err.str()) << std::flush;
    return ostrevan::finishOutput(std::cout, std::cerr, "ostrevan-reg", status, 1);
}
