#ifndef PONDQUEST_TESTS_MAZEPILOT_H
#define PONDQUEST_TESTS_MAZEPILOT_H

#include <cstddef>
#include <vector>

class CMaze;
class FrameDriver;

// A scripted player for level one. It reads the wall pieces the maze left standing,
// plans a route from the start corner to the Wise Old Man through as much food as the
// energy clock demands, and then flies it the way a person does: the mouse turns the
// duckling, W pushes it on. It never touches the camera itself.
//
//   MazePilot pilot(*world->maze, 1.0f / 60.0f);
//   ASSERT_TRUE(pilot.plan.feasible);
//   while (world->state == LevelOnePlay) { pilot.Steer(driver); driver.Frames(1); }
class MazePilot {
public:
    static const int kSide = 11;  // cells per side
    static const int kCells = kSide * kSide;
    static constexpr float kCell = 50.0f;  // cell edge in world units

    struct Point {
        float x, z;
    };
    struct Plan {
        bool feasible = false;
        std::vector<int> foodOrder;  // indices into FoodCells(), in the order visited
        std::vector<int> cells;      // the cells passed, start to goal
        std::vector<Point> waypoints;
        std::vector<bool> waypointIsFood;
        float estimatedSeconds = 0;  // of play, by the pilot's own speed model
        float slackSeconds = 0;      // least energy left over at any point of the route
    };

    // dt is the frame time the run will use: the duckling's top speed depends on it.
    MazePilot(const CMaze& maze, float dt);

    // Cells are numbered i + 11 * j, i counting 50-unit columns along x, j along z.
    static int CellAt(float x, float z);
    static Point Centre(int cell);
    bool Open(int a, int b) const;                  // neighbours with no piece standing between
    std::vector<int> Path(int from, int to) const;  // shortest, empty when unreachable
    bool AllConnected() const;
    int standingPieces;
    int offGridPieces;  // standing pieces not on a cell edge
    bool fenceComplete;

    static const std::vector<int>& FoodCells();
    static int StartCell();
    static int GoalCell();

    // Top speed with W held on every frame, in units a second.
    float CruiseSpeed() const;

    // Sets this frame's mouse motion and W from the camera; call before each frame.
    void Steer(FrameDriver& driver);
    // One frame of turning towards (x, z) with a brisk mouse flick, W held only when the
    // duckling roughly faces it. Returns the mouse counts sent; *pushed tells about W.
    static int AimAt(FrameDriver& driver, float x, float z, bool* pushed);
    bool Done() const { return next >= plan.waypoints.size(); }

    Plan plan;
    size_t next;     // waypoint being flown to
    int bounces;     // frames in which a wall threw the duckling back
    int turnCounts;  // total mouse counts sent
    int framesHeldW;

private:
    void MakePlan();
    bool openEast[kCells];   // cell to cell + 1 along x
    bool openNorth[kCells];  // cell to cell + 11 along z
    float dt;
    float lastForward;
};

#endif
