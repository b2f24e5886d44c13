// Build-time tool: creates a fresh data file from SQL schema files.
// Usage: quellon_makedb <output file> <schema.sql>...
// The browser itself never creates a table; this tool makes the file that is installed.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

static bool ReadFile(const char* path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return true;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output> <schema.sql>...\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];
    const std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(temporary.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s: %s\n", temporary.c_str(), sqlite3_errmsg(db));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        std::string sql;
        if (!ReadFile(argv[i], &sql)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            sqlite3_close(db);
            return 1;
        }
        char* error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error ? error : "error");
            sqlite3_free(error);
            sqlite3_close(db);
            return 1;
        }
    }
    sqlite3_exec(db, "VACUUM;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
