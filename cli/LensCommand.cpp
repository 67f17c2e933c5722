#include "LensCommand.h"

#include "Arguments.h"
#include "FileIo.h"
#include "HeadlessPrompts.h"
#include "LensFile.h"
#include "LensReport.h"
#include "VideoBoardFrames.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kadivo::cli {

const char* const kLensUsage =
    "       kadivo-cli lens VIDEO --board COLSxROWS --square SIZE [--stream K] [--out FILE]\n"
    "         (COLSxROWS counts the board's squares; FILE is for calibrate/transform --lens)\n";

namespace {

struct LensRequest {
    std::string video;
    CheckerboardSpec board;
    int stream = 0;
    std::optional<std::string> out;
};

// The squares across and down of "COLSxROWS" into `board`.
void ParseBoard(const std::string& text, CheckerboardSpec& board) {
    const std::size_t x = text.find('x');
    board.columns = x == std::string::npos ? -1 : ParseIndex(text.substr(0, x));
    board.rows = x == std::string::npos ? -1 : ParseIndex(text.substr(x + 1));
    if (board.columns < 3 || board.rows < 3) throw std::invalid_argument("--board takes COLSxROWS, the squares across and down, 3 or more each");
}

double ParseSquare(const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0.0) || !std::isfinite(value))
        throw std::invalid_argument("--square takes the side of a square, a positive number");
    return value;
}

LensRequest ParseLensRequest(const std::vector<std::string>& args) {
    LensRequest request;
    bool board = false, square = false;
    const std::vector<std::string> positional = SplitArguments(args, [&](const std::string& arg, const std::string& value) {
        if (arg == "--board") {
            ParseBoard(value, request.board);
            board = true;
        } else if (arg == "--square") {
            request.board.square = ParseSquare(value);
            square = true;
        } else if (arg == "--stream") {
            request.stream = ParseIndex(value);
            if (request.stream < 0) throw std::invalid_argument("--stream takes a stream number from 0");
        } else if (arg == "--out") {
            request.out = value;
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    });
    if (positional.size() != 1 || !board || !square) throw std::invalid_argument("lens takes a video, --board and --square");
    request.video = positional[0];
    return request;
}

}  // namespace

int RunLensCommand(const std::vector<std::string>& args) {
    const LensRequest request = ParseLensRequest(args);
    HeadlessPrompts messages;
    std::optional<LensCalibration> calibration;
    try {
        calibration = CalibrateLensFromVideo(messages, request.video, request.stream, request.board);
    } catch (const LensCalibrationError& e) {
        throw std::runtime_error(e.what());
    }
    if (!calibration) throw std::runtime_error("the lens calibration was cancelled");
    for (const std::string& line : LensCalibrationReport(*calibration)) std::printf("%s\n", line.c_str());
    if (const std::string warning = CoverageWarning(*calibration); !warning.empty()) std::fprintf(stderr, "kadivo-cli: warning: %s\n", warning.c_str());
    if (request.out) {
        const std::string text = FormatLensFile({calibration->lens, calibration->rms});
        WriteFileAtomically(*request.out, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
