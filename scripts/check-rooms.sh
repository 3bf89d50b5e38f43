#!/usr/bin/env bash
# The engine's rooms stand in layers, lowest first: a file includes files of its own room and
# of the rooms below, never of one above, so no circle of includes can form between rooms.
# The files at the top of engine/ (the job, the entries, the listing, the progress) stand
# above the platform and the log and below every stage. Within a room, no two units (a header
# with its source) include each other, however far round. Lists every breach; fails on one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files -z -- 'engine/*.h' 'engine/*.cpp' | xargs -0 perl -e '
  my @layers = qw(platform log top steps taken order names history run undo);
  my %rank = map { $layers[$_] => $_ } 0 .. $#layers;
  sub room { my ($f) = @_; $f =~ m{^engine/([^/]+)/} ? $1 : "top" }
  sub unit { my ($f) = @_; $f =~ s/\.(h|cpp)$//; $f }
  my (@breaches, %uses);
  for my $file (@ARGV) {
    open my $in, "<", $file or die "$file: $!";
    while (<$in>) {
      next unless m{^#include "(engine/[^"]+)"};
      my $target = $1;
      my ($from, $to) = (room($file), room($target));
      die "$file: room $from is in no layer\n" unless defined $rank{$from};
      die "$target: room $to is in no layer\n" unless defined $rank{$to};
      push @breaches, "$file:$.: $from includes $target of $to, above it" if $rank{$to} > $rank{$from};
      $uses{unit($file)}{unit($target)} = 1 if unit($file) ne unit($target);
    }
  }
  my %state;
  sub visit {
    my ($unit, @path) = @_;
    return if ($state{$unit} // 0) == 2;
    if (($state{$unit} // 0) == 1) {
      my @circle = @path[(grep { $path[$_] eq $unit } 0 .. $#path)[0] .. $#path];
      push @breaches, "circle: " . join(" -> ", @circle, $unit);
      return;
    }
    $state{$unit} = 1;
    visit($_, @path, $unit) for sort keys %{ $uses{$unit} };
    $state{$unit} = 2;
  }
  visit($_) for sort keys %uses;
  if (@breaches) {
    print "includes that break the layers of the engine:\n", map { "$_\n" } @breaches;
    exit 1;
  }
'
