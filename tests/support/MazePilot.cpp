#include "support/MazePilot.h"

#include "app/CSimpEngine.h"
#include "objects/CMaze.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>

namespace {
const float kRemoved = 666666.0f;
const float kStartX = 3.0f, kStartZ = 3.0f;    // where level one puts the eye
const float kGoalX = 540.0f, kGoalZ = 540.0f;  // the Wise Old Man
const int kMaxCounts = 10;                     // mouse counts a frame: a brisk flick
const float kThrottleDegrees = 30.0f;          // push on only when roughly facing the way
const float kReach = 4.0f;                     // a waypoint counts as passed this close
const float kFoodReach = 1.5f;                 // well inside the food's 10-unit box
const float kSafetySeconds = 2.0f;             // energy the plan keeps in hand
const float kFirstSeconds = 19.0f;             // energy 0 comes after 19 s with no food
const float kPerFood = 20.0f;

float Degrees(float radians) { return radians * 57.29578f; }

float Wrap(float degrees) {
    while (degrees >= 180.0f)
        degrees -= 360.0f;
    while (degrees < -180.0f)
        degrees += 360.0f;
    return degrees;
}

bool Whole(float v) { return std::floor(v) == v; }
}  // namespace

const std::vector<int>& MazePilot::FoodCells() {
    // (25,525) (525,25) (275,275) (25,275) (275,25): the centres of these cells.
    static const std::vector<int> cells = {CellAt(25, 525), CellAt(525, 25), CellAt(275, 275),
                                           CellAt(25, 275), CellAt(275, 25)};
    return cells;
}

int MazePilot::StartCell() { return CellAt(kStartX, kStartZ); }
int MazePilot::GoalCell() { return CellAt(kGoalX, kGoalZ); }

int MazePilot::CellAt(float x, float z) {
    int i = std::min(kSide - 1, std::max(0, static_cast<int>(x / kCell)));
    int j = std::min(kSide - 1, std::max(0, static_cast<int>(z / kCell)));
    return i + kSide * j;
}

MazePilot::Point MazePilot::Centre(int cell) {
    return {(cell % kSide) * kCell + kCell / 2, (cell / kSide) * kCell + kCell / 2};
}

MazePilot::MazePilot(const CMaze& maze, float frameDt)
    : standingPieces(0),
      offGridPieces(0),
      fenceComplete(false),
      next(0),
      bounces(0),
      turnCounts(0),
      framesHeldW(0),
      dt(frameDt),
      lastForward(0) {
    for (int c = 0; c < kCells; ++c) {
        openEast[c] = (c % kSide) < kSide - 1;
        openNorth[c] = (c / kSide) < kSide - 1;
    }
    // Fence: lines 0 and 11 on each axis, 11 pieces each.
    bool fence[4][kSide] = {};
    for (int p = 0; p < CMaze::kWallCount; ++p) {
        const float x = maze.wallSpots[p][0];
        const float z = maze.wallSpots[p][2];
        if (x == kRemoved) continue;
        ++standingPieces;
        const bool alongX = p < CMaze::kWallCount / 2;
        // A piece along x sits at (50 i + 25, 50 j) and separates cells (i, j-1) and (i, j);
        // one along z sits at (50 i, 50 j + 25) and separates (i-1, j) and (i, j).
        const float across = alongX ? z / kCell : x / kCell;
        const float along = (alongX ? x : z) / kCell - 0.5f;
        if (!Whole(across) || !Whole(along) || maze.wallSpots[p][1] != 0.0f || across < 0 || across > kSide ||
            along < 0 || along > kSide - 1) {
            ++offGridPieces;
            continue;
        }
        const int line = static_cast<int>(across);
        const int k = static_cast<int>(along);
        if (line == 0 || line == kSide) {
            fence[(alongX ? 0 : 2) + (line == 0 ? 0 : 1)][k] = true;
        } else if (alongX) {
            openNorth[k + kSide * (line - 1)] = false;
        } else {
            openEast[(line - 1) + kSide * k] = false;
        }
    }
    fenceComplete = true;
    for (auto& side : fence)
        for (bool standing : side)
            fenceComplete = fenceComplete && standing;
    MakePlan();
}

bool MazePilot::Open(int a, int b) const {
    if (a > b) std::swap(a, b);
    if (b == a + 1 && a / kSide == b / kSide) return openEast[a];
    if (b == a + kSide) return openNorth[a];
    return false;
}

std::vector<int> MazePilot::Path(int from, int to) const {
    std::vector<int> parent(kCells, -1);
    std::queue<int> frontier;
    parent[from] = from;
    frontier.push(from);
    while (!frontier.empty()) {
        const int c = frontier.front();
        frontier.pop();
        if (c == to) break;
        const int around[4] = {c + 1, c - 1, c + kSide, c - kSide};
        for (int n : around) {
            if (n < 0 || n >= kCells || parent[n] >= 0 || !Open(c, n)) continue;
            parent[n] = c;
            frontier.push(n);
        }
    }
    std::vector<int> path;
    if (parent[to] < 0) return path;
    for (int c = to; c != from; c = parent[c])
        path.push_back(c);
    path.push_back(from);
    std::reverse(path.begin(), path.end());
    return path;
}

bool MazePilot::AllConnected() const {
    for (int c = 1; c < kCells; ++c)
        if (Path(0, c).empty()) return false;
    return true;
}

float MazePilot::CruiseSpeed() const {
    // W adds 2 a frame and friction keeps (1 - 3 dt) of it: the step settles at 2/3 unit a
    // frame, whatever the frame rate, so the speed a second grows with the frame rate.
    return (2.0f / 3.0f) / dt;
}

void MazePilot::MakePlan() {
    const std::vector<int>& foods = FoodCells();
    const float cellSeconds = kCell / CruiseSpeed();
    // Starting from rest, and each meal stops the duckling dead: a third of a second of
    // cruising lost each time, plus the brake of the bounce-free turn at each corner.
    const float restartSeconds = 0.5f;
    const float cornerSeconds = 0.1f;

    std::vector<int> order;
    Plan best;
    std::function<void(int, int, const std::vector<int>&)> explore;
    explore = [&](int eatenMask, int here, const std::vector<int>& route) {
        // Try going for the goal from here, then every food not yet eaten.
        for (int target = -1; target < static_cast<int>(foods.size()); ++target) {
            if (target >= 0 && (eatenMask & (1 << target))) continue;
            const int to = target < 0 ? GoalCell() : foods[target];
            std::vector<int> leg = Path(here, to);
            if (leg.empty()) continue;
            std::vector<int> extended = route;
            extended.insert(extended.end(), leg.begin() + 1, leg.end());
            if (target >= 0) {
                order.push_back(target);
                explore(eatenMask | (1 << target), to, extended);
                order.pop_back();
                continue;
            }
            // A complete route: time it cell by cell, eating whatever lies on it.
            float t = restartSeconds + 1.5f * cellSeconds;  // the way round the nest
            int eaten = 0;
            int mask = 0;
            float slack = 1e9f;
            bool ok = true;
            for (size_t s = 1; s < extended.size() && ok; ++s) {
                t += cellSeconds;
                if (s + 1 < extended.size()) {
                    const int d1 = extended[s] - extended[s - 1];
                    const int d2 = extended[s + 1] - extended[s];
                    if (d1 != d2) t += cornerSeconds;
                }
                slack = std::min(slack, kFirstSeconds + kPerFood * eaten - t);
                if (slack < kSafetySeconds) ok = false;
                for (size_t f = 0; f < foods.size(); ++f)
                    if (extended[s] == foods[f] && !(mask & (1 << f))) {
                        mask |= 1 << f;
                        ++eaten;
                        t += restartSeconds;
                    }
            }
            if (!ok) continue;
            if (!best.feasible || t < best.estimatedSeconds ||
                (t == best.estimatedSeconds && slack > best.slackSeconds)) {
                best.feasible = true;
                best.estimatedSeconds = t;
                best.slackSeconds = slack;
                best.cells = extended;
                best.foodOrder = order;
            }
        }
    };
    std::vector<int> route = {StartCell()};
    explore(0, StartCell(), route);
    plan = best;
    if (!plan.feasible) return;

    // Waypoints: round the nest in the start cell first, then cell centres, the Wise Old
    // Man's middle last. Food cells are aimed at closely so the meal is not missed.
    plan.waypoints.push_back({38, 6});
    plan.waypointIsFood.push_back(false);
    plan.waypoints.push_back({38, 38});
    plan.waypointIsFood.push_back(false);
    int mask = 0;
    for (size_t s = 1; s < plan.cells.size(); ++s) {
        const int c = plan.cells[s];
        if (c == GoalCell() && s + 1 == plan.cells.size()) break;
        bool food = false;
        for (size_t f = 0; f < foods.size(); ++f)
            if (c == foods[f] && !(mask & (1 << f))) {
                mask |= 1 << f;
                food = true;
            }
        plan.waypoints.push_back(Centre(c));
        plan.waypointIsFood.push_back(food);
    }
    plan.waypoints.push_back({kGoalX, kGoalZ});
    plan.waypointIsFood.push_back(false);
}

void MazePilot::Steer(FrameDriver& driver) {
    CViewCamera* camera = driver.Camera();
    const float forward = camera->velocity.z;
    // Only a wall reverses a forward run this hard; a meal's stop drifts back gently.
    if (forward < -10.0f && lastForward > 0.0f) ++bounces;
    lastForward = forward;

    const float x = camera->position.x;
    const float z = camera->position.z;
    while (next < plan.waypoints.size()) {
        const Point& p = plan.waypoints[next];
        const float reach = plan.waypointIsFood[next] ? kFoodReach : kReach;
        if (std::hypot(p.x - x, p.z - z) >= reach) break;
        ++next;
    }
    if (Done()) {
        driver.SetMouse(0, 0);
        driver.Release("W");
        return;
    }
    const Point& target = plan.waypoints[next];
    bool pushed = false;
    turnCounts += std::abs(AimAt(driver, target.x, target.z, &pushed));
    if (pushed) ++framesHeldW;
}

int MazePilot::AimAt(FrameDriver& driver, float x, float z, bool* pushed) {
    CViewCamera* camera = driver.Camera();
    const float wanted = Degrees(std::atan2(z - camera->position.z, x - camera->position.x));
    const float error = Wrap(wanted - camera->yaw);
    const float sensitivity = driver.engine->mouseSensitivity;
    int counts = static_cast<int>(std::lround(error / sensitivity));
    counts = std::max(-kMaxCounts, std::min(kMaxCounts, counts));
    driver.SetMouse(counts, 0);
    *pushed = std::fabs(error - counts * sensitivity) < kThrottleDegrees;
    if (*pushed)
        driver.Hold("W");
    else
        driver.Release("W");
    return counts;
}
