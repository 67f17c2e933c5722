#include "SeriesCommand.h"

#include "Arguments.h"
#include "CKadivoDoc.h"
#include "Uncertainty.h"

#include <stdexcept>

namespace kadivo::cli {

SeriesRequest ParseSeriesRequest(const std::vector<std::string>& options) {
    SeriesRequest request;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        auto value = [&]() -> const std::string& { return OptionValue(options, i); };
        if (option == "--point") {
            request.point = value();
        } else if (option == "--joint") {
            const std::string& text = value();
            request.joint = ParseIndex(text);
            if (request.joint < 0) throw std::invalid_argument("--joint takes an index from 0: " + text);
        } else if (option == "--quantity") {
            const std::string& q = value();
            if (q == "pos") request.quantity = Quantity::Position;
            else if (q == "vel") request.quantity = Quantity::Velocity;
            else if (q == "acc") request.quantity = Quantity::Acceleration;
            else throw std::invalid_argument("--quantity is pos, vel or acc: " + q);
        } else if (option == "--axis") {
            const std::string& a = value();
            if (a == "x") request.axis = 0;
            else if (a == "y") request.axis = 1;
            else if (a == "z") request.axis = 2;
            else if (a == "3d") request.axis = 3;
            else throw std::invalid_argument("--axis is x, y, z or 3d: " + a);
        } else if (option == "--raw") {
            request.smoothed = false;
        } else if (option == "--ccw") {
            request.counterClockwise = true;
        } else if (option == "--ci") {
            request.halfWidths = true;
        } else {
            throw std::invalid_argument("unknown option " + option);
        }
    }
    if (request.point.empty() == (request.joint < 0)) throw std::invalid_argument("name one --point or one --joint");
    if (request.axis < 0) throw std::invalid_argument("--axis is missing");
    if (request.joint >= 0 && request.axis == 3) throw std::invalid_argument("joint angles have no 3d axis");
    return request;
}

std::vector<float> ComputeSeries(const CKadivoDoc& doc, const SeriesRequest& request) {
    if (doc.worldFrameCount <= 0 || doc.worldRaw.empty()) throw std::runtime_error("the sequence has no world data; transform it first");
    if (request.joint >= 0) {
        const std::vector<ExportJoint> joints = BuildJointList(doc);
        if (request.joint >= static_cast<int>(joints.size()))
            throw std::runtime_error("the model has " + std::to_string(joints.size()) + " joints");
        return AngularSeries(doc, joints[static_cast<std::size_t>(request.joint)], request.smoothed, request.quantity,
                             request.axis, request.counterClockwise);
    }
    return LinearSeries(doc, WorldEntryNamed(doc, request.point), request.smoothed, request.quantity,
                        static_cast<Component>(request.axis));
}

std::vector<float> ComputeHalfWidths(const CKadivoDoc& doc, const SeriesRequest& request) {
    const WorldUncertainty uncertainty(doc);
    if (request.joint >= 0)
        return uncertainty.AngularHalfWidths(BuildJointList(doc)[static_cast<std::size_t>(request.joint)], request.smoothed,
                                             request.quantity, request.axis, request.counterClockwise);
    return uncertainty.LinearHalfWidths(WorldEntryNamed(doc, request.point), request.smoothed, request.quantity,
                                        static_cast<Component>(request.axis));
}

int WorldEntryNamed(const CKadivoDoc& doc, const std::string& name) {
    if (name == "CG") return doc.pointCount;
    for (int p = 0; p < doc.pointCount; ++p)
        if (doc.modelPoints[static_cast<std::size_t>(p)].name == name) return p;
    throw std::runtime_error("the model has no point \"" + name + "\"");
}

}  // namespace kadivo::cli
