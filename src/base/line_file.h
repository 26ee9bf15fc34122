#pragma once
// Line files: one field per line. Numbers are written with a blank in front when they
// are 0 or above and a blank after them (" 5 ", "-5 ", " 1.5 "); texts bare or in double
// quotes. Reading drops blanks around the field, takes a quoted field without its quotes
// and ends a bare text at the first comma.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

std::string readField(std::string_view line);

class LineFileReader {
  public:
    explicit LineFileReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    bool atEnd() const { return next_ >= lines_.size(); }
    std::size_t linesRead() const { return next_; }
    // Each call consumes one line; reading past the end fails with "Input past end of file".
    std::string text();
    double number();
    int32_t int32();
    int16_t int16();
    float single();

  private:
    std::string_view take();
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

class LineFileWriter {
  public:
    void quoted(std::string_view text);
    void bare(std::string_view text);
    void integer(int64_t value);
    void single(float value);
    const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

// Finds `name` in `folder`, ignoring case when the exact name is missing ("Kavex.Ini" is
// also found as "kavex.ini"). Returns the exact path when nothing matches.
std::string findFileIgnoringCase(const std::string& folder, const std::string& name);

} // namespace kavex
