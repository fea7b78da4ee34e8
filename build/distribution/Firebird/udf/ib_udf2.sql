Placeholder for ib_udf2.sql of the sample distribution.
