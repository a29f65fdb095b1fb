// Random walls within the input dialogs' limits, for the property tests of the stability analysis
// and of the whole design. A seed always gives the same sequence of walls.
#pragma once

#include "model/Project.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <ranges>
#include <tuple>

namespace pendrake::test {

// What a wall is drawn with: the stability inputs only, or also the concrete design's (cover,
// steel, concrete-to-earth friction and the user's bars, a zero diameter or pitch from a damaged
// file included). The design draws are interleaved with the others, so the two kinds of walls
// differ from the first draw of a design input on.
enum class WallInputs { Stability, Design };

class RandomWallGenerator {
public:
    RandomWallGenerator(unsigned seed, WallInputs inputs)
        : rng_(seed)
        , design_(inputs == WallInputs::Design)
    {
    }

    Project Next()
    {
        Project p = MakeNewProject("Arial");
        p.UnitSystem = static_cast<int16_t>(Int(0, 2));

        // Heights in cm so that both chains close in decimals, as typed in the dialogs.
        const int upper = Chance(0.1) ? 0 : Int(50, 1200);
        const int step = Chance(0.6) ? 0 : Int(0, 200);
        const int rearH = Chance(0.1) ? 0 : Int(0, 400);
        const int lowH = Chance(0.1) ? 0 : Int(0, 400);
        const int below = step + rearH + lowH;
        const int toeH = below == 0 ? 0 : Int(0, below); // FrontHeight >= UpperBackHeight
        std::tie(p.UpperBackHeight, p.RearStepHeight, p.RearSlopeHeight, p.LowerSlopeHeight,
            p.ToeHeight, p.FrontHeight)
            = std::tuple(
                Cm(upper), Cm(step), Cm(rearH), Cm(lowH), Cm(toeH), Cm(upper + below - toeH));

        const int top = Int(20, 200);
        const int lean = Chance(0.2) ? 0 : Int(0, 200);
        const int shelf = below == 0 ? 0 : Int(0, 900);
        const int width = top + lean + shelf;
        std::array<int, 3> cuts { Int(0, width), Int(0, width), Int(0, width) };
        std::sort(cuts.begin(), cuts.end());
        std::tie(p.TopWidth, p.UpperBackOffset, p.ShelfWidth, p.BottomWidth, p.RearSlopeWidth)
            = std::tuple(Cm(top), Cm(lean), Cm(shelf), Cm(cuts[0]), Cm(width - cuts[2]));
        p.LowerSlopeWidth = below == 0 ? 0 : Cm(cuts[1] - cuts[0]);
        p.LowerFlatWidth = Cm(cuts[2] - cuts[1] + (below == 0 ? cuts[1] - cuts[0] : 0));
        p.ToeWidth = toeH == 0 ? 0 : Cm(Int(0, 300));

        const int wall = upper + below;
        p.BackfillSlope = Chance(0.5) ? 0 : Cm(Int(50, 500));
        p.FrontWaterDepth = Cm(Int(0, wall));
        p.BackWaterDepth = Cm(Int(0, wall));

        p.ConcUnitWeight = Real(1.5, 2.6);
        p.ConcFc = Real(150, 400);
        if (design_) {
            p.ConcCover = Real(0, 10);
            p.RebarFy = Real(2000, 5000);
        }
        p.WaterUnitWeight = Real(0.9, 1.1);
        p.FillUnitWeight = Real(1.4, 2.2);
        p.FillDryDensity = p.FillUnitWeight;
        p.FillSatDensity = p.FillUnitWeight + Real(0, 0.4);
        p.FillPhi = Chance(0.1) ? Real(0, 15) : Real(20, 45);
        p.DeltaEarth = Real(0, p.FillPhi);
        if (design_)
            p.DeltaConcrete = Real(0, p.FillPhi);
        p.BasePhi = Real(0, 45);
        p.BaseCohesion = Chance(0.3) ? 0 : Real(0, 20);
        p.BaseQd = Real(0, 60);
        p.BaseE = Chance(0.1) ? 0 : Real(0.01, 5);

        p.AnchorRows = static_cast<int16_t>(Int(0, 25));
        p.AnchorVPitch = Real(0.1, 2);
        p.AnchorHPitch = Real(0.5, 3);
        p.AnchorEdgeDist = Real(0.1, 1);
        p.AnchorDia = Real(1, 4);
        p.AnchorE = Real(10, 30);

        p.Surcharge = Real(0, 3);
        p.SurchargeType = static_cast<int16_t>(Int(1, 7));
        p.SeismicCoef = Real(0, 0.3);
        p.LineLoadCount = static_cast<int16_t>(Int(0, MaxLineLoads));
        const double span = double(p.ToeWidth) + width / 100.0;
        for (int i = 1; i <= p.LineLoadCount; ++i)
            p.LineLoads[i] = { Real(0, 30), Real(0, span + 2), Cm(Int(0, wall)), float(Int(0, 359)),
                static_cast<int16_t>(Int(1, 7)) };

        if (design_) {
            p.ReinUserSet = Chance(0.5);
            for (int row = 1; row <= ReinRowCount; ++row) {
                p.ReinDia[row] = Chance(0.1) ? 0 : Real(0.4, 3.2);
                p.ReinPitch[row] = Chance(0.1) ? 0 : Real(5, 30);
            }
        }
        return p;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    float Real(double lo, double hi)
    {
        return static_cast<float>(std::uniform_real_distribution<double>(lo, hi)(rng_));
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    static float Cm(int cm) { return static_cast<float>(cm / 100.0); }

    std::mt19937 rng_;
    bool design_;
};

// Whether every number is finite: single numbers, and tables of them to any depth. Degenerate
// walls (no section, no thickness, a damaged file) must never give a NaN or an infinity.
inline bool Finite(double v)
{
    return std::isfinite(v);
}

template <std::ranges::range R> bool Finite(const R& values)
{
    return std::ranges::all_of(values, [](const auto& v) { return Finite(v); });
}

template <class... T>
requires(sizeof...(T) > 1) bool Finite(const T&... values)
{
    return (Finite(values) && ...);
}

} // namespace pendrake::test
