#include "OpenCvLensModule.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace kadivo::opencv {

namespace {

// The share of the picture inside the boards' outlines, on a coarse grid.
double Coverage(const std::vector<std::vector<cv::Point2f>>& corners, int width, int height) {
    constexpr int kCells = 64;
    cv::Mat mask = cv::Mat::zeros(kCells, kCells, CV_8U);
    for (const std::vector<cv::Point2f>& board : corners) {
        std::vector<cv::Point2f> hull;
        cv::convexHull(board, hull);
        std::vector<cv::Point> cells;
        for (const cv::Point2f& p : hull)
            cells.emplace_back(static_cast<int>(std::lround(static_cast<double>(p.x) * kCells / width)),
                               static_cast<int>(std::lround(static_cast<double>(p.y) * kCells / height)));
        cv::fillConvexPoly(mask, cells, cv::Scalar(255));
    }
    return static_cast<double>(cv::countNonZero(mask)) / (kCells * kCells);
}

std::string Count(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

}  // namespace

std::optional<LensCalibration> CalibrateFromCheckerboard(const BoardFrameSource& fetch, const std::vector<int>& frames,
                                                         const CheckerboardSpec& board, const LensCalibrationProgress& progress) {
    const cv::Size inner(board.columns - 1, board.rows - 1);
    std::vector<cv::Point3f> grid;
    for (int r = 0; r < inner.height; ++r)
        for (int c = 0; c < inner.width; ++c)
            grid.emplace_back(static_cast<float>(c * board.square), static_cast<float>(r * board.square), 0.0f);

    LensCalibration result;
    std::vector<std::vector<cv::Point2f>> corners;
    std::vector<int> found;
    cv::Size pictureSize;
    GreyPicture picture;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (fetch(frames[i], picture) && picture.width > 0 && picture.height > 0 &&
            picture.pixels.size() == static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
            if (pictureSize.area() == 0) pictureSize = cv::Size(picture.width, picture.height);
            if (pictureSize == cv::Size(picture.width, picture.height)) {
                const cv::Mat grey(picture.height, picture.width, CV_8U, picture.pixels.data());
                std::vector<cv::Point2f> at;
                const int flags = cv::CALIB_CB_ADAPTIVE_THRESH | cv::CALIB_CB_NORMALIZE_IMAGE | cv::CALIB_CB_FAST_CHECK;
                if (cv::findChessboardCorners(grey, inner, at, flags)) {
                    cv::cornerSubPix(grey, at, cv::Size(5, 5), cv::Size(-1, -1),
                                     cv::TermCriteria(cv::TermCriteria::EPS + cv::TermCriteria::COUNT, 50, 0.001));
                    corners.push_back(std::move(at));
                    found.push_back(frames[i]);
                }
            }
        }
        ++result.framesSearched;
        if (progress && !progress(static_cast<int>(i) + 1, static_cast<int>(frames.size()))) return std::nullopt;
    }
    if (static_cast<int>(corners.size()) < kFewestBoardFrames) {
        throw LensCalibrationError("The board of " + std::to_string(board.columns) + " × " + std::to_string(board.rows) +
                                   " squares was found in " + Count(static_cast<int>(corners.size()), "frame", "frames") +
                                   " of the " + std::to_string(frames.size()) + " searched; calibrating a lens needs at least " +
                                   std::to_string(kFewestBoardFrames) + ".");
    }
    const std::vector<std::vector<cv::Point3f>> objects(corners.size(), grid);
    cv::Mat camera = cv::Mat::eye(3, 3, CV_64F), distortion = cv::Mat::zeros(5, 1, CV_64F);
    std::vector<cv::Mat> rotations, translations;
    cv::Mat intrinsicDeviations, extrinsicDeviations, perFrame;
    try {
        result.rms = cv::calibrateCamera(objects, corners, pictureSize, camera, distortion, rotations, translations,
                                         intrinsicDeviations, extrinsicDeviations, perFrame, 0,
                                         cv::TermCriteria(cv::TermCriteria::COUNT + cv::TermCriteria::EPS, 100, 1e-12));
    } catch (const cv::Exception& e) {
        throw LensCalibrationError(std::string("The lens could not be solved from the boards: ") + e.what());
    }
    LensModel& lens = result.lens;
    lens.fx = camera.at<double>(0, 0);
    lens.fy = camera.at<double>(1, 1);
    lens.cx = camera.at<double>(0, 2);
    lens.cy = camera.at<double>(1, 2);
    lens.k1 = distortion.at<double>(0);
    lens.k2 = distortion.at<double>(1);
    lens.p1 = distortion.at<double>(2);
    lens.p2 = distortion.at<double>(3);
    lens.k3 = distortion.at<double>(4);
    lens.width = pictureSize.width;
    lens.height = pictureSize.height;
    lens.source = LensSource::Checkerboard;
    if (!LensModelIsUsable(lens)) throw LensCalibrationError("The boards gave no usable lens");
    // OpenCV orders the deviations fx, fy, cx, cy, k1, k2, p1, p2, k3.
    const int order[9] = {0, 1, 2, 3, 4, 5, 8, 6, 7};
    for (int i = 0; i < 9; ++i)
        result.deviations[static_cast<std::size_t>(i)] =
            intrinsicDeviations.rows > order[i] ? intrinsicDeviations.at<double>(order[i]) : 0.0;
    for (std::size_t i = 0; i < found.size(); ++i)
        result.frames.push_back({found[i], perFrame.rows > static_cast<int>(i) ? perFrame.at<double>(static_cast<int>(i)) : 0.0});
    result.coverage = Coverage(corners, pictureSize.width, pictureSize.height);
    return result;
}

}  // namespace kadivo::opencv
