#include "kinetics/solvers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/log.h"

namespace {

// Candidates the constrained Newton update may try before giving up.
constexpr int maxRelaxationCandidates = 100;

// Two-element growth passes the shared constant itself, so the pointer test
// settles the usual case without comparing characters for every class.
bool isTwoElementSphere(std::string_view equation)
{
    if (equation.data() == twoElementSphere.data() && equation.size() == twoElementSphere.size())
        return true;
    return equation == twoElementSphere;
}

// The "2elementSphere" equation with its exponents formed once per solve.
// Every term is evaluated in the written order, so that any solver gives the
// same residuals for the same x.
class TwoElementSphere {
public:
    explicit TwoElementSphere(const GrowthEquation& eq)
        : c(eq), ratio(eq.p / eq.q), sumRatio((eq.p + eq.q) / eq.q), ratioMinusOne(eq.p / eq.q - 1.0)
    {
    }

    double value(double x) const
    {
        return c.c0 * std::pow(x, sumRatio) + c.c1 * std::pow(x, ratio) + c.c2 * x + c.c3;
    }

    // F(x) and F'(x) together; both use the same power x^(p/q).
    void valueAndSlope(double x, double& f, double& slope) const
    {
        const double xRatio = std::pow(x, ratio);
        f = c.c0 * std::pow(x, sumRatio) + c.c1 * xRatio + c.c2 * x + c.c3;
        slope = ratio * c.c1 * std::pow(x, ratioMinusOne) + sumRatio * c.c0 * xRatio + c.c2;
    }

private:
    const GrowthEquation& c;
    double ratio;
    double sumRatio;
    double ratioMinusOne;
};

// Makes sure [a, b] brackets a sign change, widening it once by `factor`.
void checkBracket(const TwoElementSphere& f, double a, double& b, double& fa, double& fb, double factor,
                  const char* invalidBoundsMessage)
{
    fa = f.value(a);
    fb = f.value(b);
    if (fa * fb > 0.0) {
        b = b * factor;
        fb = f.value(b);
        if (fa * fb > 0.0) Log::fatalError(invalidBoundsMessage);
    }
}

// Newton iterations shared by both variants. `leftDomain` means the iterate
// ended on a non-finite residual (e.g. a negative x under a fractional
// power) before the counter reached its limit: the caller then hands over to
// Brent instead of returning a meaningless root. Reaching the limit takes
// precedence, so that its own warning is the one logged.
enum class NewtonOutcome { converged, limitReached, leftDomain };

NewtonOutcome newtonIterations(const SolverSettings& settings, const TwoElementSphere& f, double a, double b,
                               bool constrained, double& x)
{
    x = (a + b) / 2.0;
    double tolerance = settings.tolBrentDicho;
    const double residualA = std::fabs(f.value(a));
    const double residualB = std::fabs(f.value(b));
    if (residualA < tolerance || residualB < tolerance)
        tolerance = std::min(residualA, residualB) / settings.tolNR;

    // 64 bits: a user-given limit beyond the int range must not overflow.
    std::int64_t count = 1;
    double fx = 0.0;
    double slope = 0.0;
    f.valueAndSlope(x, fx, slope);
    for (;;) {
        if (!(std::fabs(fx) > tolerance)) break;
        if (static_cast<double>(count) >= settings.maxCountNR) break;
        if (constrained) {
            double relaxation = 1.0;
            double candidate = x - relaxation * fx / slope;
            int candidates = 1;
            while (candidate < a || candidate > b) {
                if (candidates >= maxRelaxationCandidates)
                    Log::fatalError("Huge relaxation in constrained NR->we strop algorithm");
                relaxation = relaxation / 2.0;
                candidate = x - relaxation * fx / slope;
                ++candidates;
            }
            x = candidate;
        } else {
            x = x - fx / slope;
        }
        ++count;
        f.valueAndSlope(x, fx, slope);
    }
    // Reaching the limit hands over to Brent even when the last update converged.
    if (static_cast<double>(count) >= settings.maxCountNR) return NewtonOutcome::limitReached;
    if (!std::isfinite(fx)) return NewtonOutcome::leftDomain;
    return NewtonOutcome::converged;
}

} // namespace

namespace {

// Newton then, when it cannot deliver, Brent on the initial bracket; the two
// variants differ only in the update and in their warnings.
double newtonOrBrent(const SolverSettings& settings, double a, double b, std::string_view equation, double& factor,
                     const GrowthEquation& eq, bool constrained, const char* limitWarning,
                     const char* domainWarning)
{
    const TwoElementSphere f(eq);
    double x = 0.0;
    switch (newtonIterations(settings, f, a, b, constrained, x)) {
    case NewtonOutcome::converged:
        return x;
    case NewtonOutcome::limitReached:
        Log::logWarning(limitWarning);
        break;
    case NewtonOutcome::leftDomain:
        Log::logWarning(domainWarning);
        break;
    }
    return settings.Brent(a, b, equation, factor, eq);
}

} // namespace

double SolverSettings::NewtonRaphson(double a, double b, std::string_view equation, double& factor,
                                     const GrowthEquation& eq) const
{
    if (!isTwoElementSphere(equation)) Log::fatalError("Newton raphson not implemented for this growth equation");
    return newtonOrBrent(*this, a, b, equation, factor, eq, false,
                         "NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm",
                         "NewtonRaphson left the domain of the growth equation->switch on Brent algorithm");
}

double SolverSettings::constrainedNewtonRaphson(double a, double b, std::string_view equation, double& factor,
                                                const GrowthEquation& eq) const
{
    if (!isTwoElementSphere(equation)) Log::fatalError("v not implemented for this growth equation");
    return newtonOrBrent(
        *this, a, b, equation, factor, eq, true,
        "Constraied NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm",
        "Constrained NewtonRaphson left the domain of the growth equation->switch on Brent algorithm");
}

double SolverSettings::Brent(double a, double b, std::string_view equation, double& factor,
                             const GrowthEquation& eq) const
{
    if (!isTwoElementSphere(equation)) Log::fatalError("Brent not implemented for this");
    const TwoElementSphere f(eq);
    double fa = 0.0;
    double fb = 0.0;
    checkBracket(f, a, b, fa, fb, factor, "Brent Sphere2elem: invalid bounds f");

    if (std::fabs(fa) < std::fabs(fb)) {
        std::swap(a, b);
        std::swap(fa, fb);
    }
    double c = a;
    double fc = fa;
    double d = 0.0; // only read after a step that sets it
    bool bisected = true;
    if (fb == 0.0) return b;

    while (std::fabs(b - a) > tolBrentDicho) {
        double s;
        if (fa != fc && fb != fc)
            s = a * fb * fc / ((fa - fb) * (fa - fc)) + b * fa * fc / ((fb - fa) * (fb - fc)) +
                c * fa * fb / ((fc - fa) * (fc - fb));
        else
            s = b - fb * (b - a) / (fb - fa);

        const double quarter = (3.0 * a + b) / 4.0;
        const bool strictlyBetween = quarter < b ? (s > quarter && s < b) : (s > b && s < quarter);
        if (!strictlyBetween || (bisected && std::fabs(s - b) >= std::fabs(b - c) / 2.0) ||
            (!bisected && std::fabs(s - b) >= std::fabs(c - d) / 2.0)) {
            s = (a + b) / 2.0;
            bisected = true;
            // Ends one ulp apart cannot be split: a tolerance below the
            // resolution of the root would otherwise loop for ever.
            if (s == a || s == b) return b;
        } else {
            bisected = false;
        }

        const double fs = f.value(s);
        d = c;
        c = b;
        fc = fb;
        if (fa * fs < 0.0) {
            b = s;
            fb = fs;
        } else {
            a = s;
            fa = fs;
        }
        if (std::fabs(fa) < std::fabs(fb)) {
            std::swap(a, b);
            std::swap(fa, fb);
        }
    }
    return b;
}

double SolverSettings::Dichotomy(double a, double b, std::string_view equation, double& factor,
                                 const GrowthEquation& eq) const
{
    if (!isTwoElementSphere(equation)) Log::fatalError("Dichotomy not implemented for this");
    const TwoElementSphere f(eq);
    double fa = 0.0;
    double fb = 0.0;
    checkBracket(f, a, b, fa, fb, factor, "Dicho Sphere2elem: invalid bounds f");

    // fa and fb always hold F at the current ends, so they are not evaluated again.
    while (std::fabs(b - a) > tolBrentDicho) {
        const double middle = (a + b) / 2.0;
        // Ends one ulp apart cannot be split (tolerance below the resolution).
        if (middle == a || middle == b) break;
        if (fa * fb > 0.0) Log::fatalError("Dicho Sphere2elem: invalid bounds f during treatment!!!!");
        const double fm = f.value(middle);
        if (fm * fa > 0.0) {
            a = middle;
            fa = fm;
        } else {
            b = middle;
            fb = fm;
        }
    }
    return (a + b) / 2.0;
}
