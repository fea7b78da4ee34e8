Placeholder for ib_udf.sql of the sample distribution.
