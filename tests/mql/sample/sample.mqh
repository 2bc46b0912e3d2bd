// The library the sample expert imports; the tests give its functions.
#import "sample.dll"
int    _echo(uchar &text[], int size);
void   _add(int a, int b, int &sum);
double _scale(double value, double &factors[]);
#import
