#include "bench_files.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace pravelo::bench {

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeMacroProfile(const fs::path& user) {
    const fs::path standard = user / "basic" / "Standard";
    fs::create_directories(standard);
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    writeFile(user / "basic" / "script.xlc",
              head +
                  "<library:libraries xmlns:library=\"http://openoffice.org/2000/library\" "
                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><library:library "
                  "library:name=\"Standard\" xlink:href=\"$(USER)/basic/Standard/script.xlb/\" "
                  "xlink:type=\"simple\" library:link=\"false\"/></library:libraries>\n");
    writeFile(standard / "script.xlb",
              head +
                  "<library:library xmlns:library=\"http://openoffice.org/2000/library\" "
                  "library:name=\"Standard\" library:readonly=\"false\" "
                  "library:passwordprotected=\"false\"><library:element "
                  "library:name=\"Module1\"/></library:library>\n");
    writeFile(standard / "Module1.xba",
              head +
                  "<script:module xmlns:script=\"http://openoffice.org/2000/script\" "
                  "script:name=\"Module1\" script:language=\"StarBasic\">Sub InsertText\n"
                  "    ThisComponent.getText().getStart().setString(&quot;EDITED &quot;)\n"
                  "End Sub\n</script:module>\n");
}

}  // namespace pravelo::bench
